c     VexnorScript example: a matrix-vector product tuned by unrolling
c     its outer loop, and a scaling step tuned by choosing between two
c     ways of writing it.
      program matvec
      implicit none
      include 'VexnorScript.h'
      integer N
      parameter (N = 400)
      real*8 a(N, N), x(N), y(N), s
      integer i, j

      call MPI_INIT(ierr)
      call MPI_COMM_RANK(MPI_COMM_WORLD, myid, ierr)
      call MPI_COMM_SIZE(MPI_COMM_WORLD, Vexnor_NUMPROCS, ierr)
!Vexnor$ Vexnor_STARTTUNESIZE = 100
!Vexnor$ Vexnor_ENDTUNESIZE = 400
!Vexnor$ Vexnor_SAMPDIST = 100

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
        print *, 'sum of y = ', sum(y)
      endif
      call MPI_FINALIZE(ierr)
      end
