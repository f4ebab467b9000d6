c     VexnorScript example: a matrix-vector product tuned by unrolling
c     its outer loop (at install time), and a scaling step tuned by
c     choosing between two ways of writing it (before execution).  The
c     directive lines are comments to a Fortran compiler, so the file
c     also compiles and runs untranslated.
      program matvec
      implicit none
      include 'VexnorScript.h'
      integer N
      parameter (N = 400)
      real*8 a(N, N), x(N), y(N), s
      integer i, j
!Vexnor$ character*200 routines

      call MPI_INIT(ierr)
      call MPI_COMM_RANK(MPI_COMM_WORLD, myid, ierr)
      call MPI_COMM_SIZE(MPI_COMM_WORLD, Vexnor_NUMPROCS, ierr)
!Vexnor$ Vexnor_STARTTUNESIZE = 100
!Vexnor$ Vexnor_ENDTUNESIZE = 400
!Vexnor$ Vexnor_SAMPDIST = 100
!Vexnor$ Vexnor_DEBUG = 0
!Vexnor$ call Vexnor_ATset(1, routines)
!Vexnor$ call Vexnor_ATexec(1, routines)
!Vexnor$ call Vexnor_ATset(2, routines)
!Vexnor$ call Vexnor_ATexec(2, routines)

      do j = 1, N
        do i = 1, N
          a(i, j) = dble(i + j) / dble(N)
        enddo
        x(j) = 1.0d0 / dble(j)
      enddo

!Vexnor$ install unroll (i) region start
!Vexnor$ name mxv
!Vexnor$ varied (i) from 1 to 4
      do i = 1, N
        s = 0.0d0
        do j = 1, N
          s = s + a(i, j) * x(j)
        enddo
        y(i) = s
      enddo
!Vexnor$ install unroll (i) region end

!Vexnor$ static select region start
!Vexnor$ name scale
!Vexnor$ select sub region start
      do i = 1, N
        y(i) = 2.0d0 * y(i)
      enddo
!Vexnor$ select sub region end
!Vexnor$ select sub region start
      do i = 1, N
        y(i) = y(i) + y(i)
      enddo
!Vexnor$ select sub region end
!Vexnor$ static select region end

      if (myid .eq. 0) then
        print '(a, f16.4)', 'sum of y = ', sum(y)
      endif
      call MPI_FINALIZE(ierr)
      end
