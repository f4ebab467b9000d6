c     A program tuned before it runs (a select region "scale" with two
c     ways of scaling a vector) and while it runs (a region "dyn" tuned
c     at the place a DynPefThis directive names).  Without the
c     translator the directives are comments and the program computes
c     the same results.
      program tuned
      include 'VexnorScript.h'
      integer N
      parameter (N = 200)
      integer i, cnt, it
      real*8 x(N), y(N), total
!Vexnor$ character*200 routines

      call MPI_INIT(ierr)
      call MPI_COMM_RANK(MPI_COMM_WORLD, myid, ierr)
      call MPI_COMM_SIZE(MPI_COMM_WORLD, Vexnor_NUMPROCS, ierr)
!Vexnor$ Vexnor_STARTTUNESIZE = 100
!Vexnor$ Vexnor_ENDTUNESIZE = 200
!Vexnor$ Vexnor_SAMPDIST = 50
!Vexnor$ Vexnor_DEBUG = 0
!Vexnor$ call Vexnor_ATset(2, routines)
!Vexnor$ call Vexnor_ATexec(2, routines)
!Vexnor$ call Vexnor_ATexec(3, routines)

      cnt = 0
      total = 0.0d0
      do i = 1, N
        x(i) = dble(i) / 4.0d0
        y(i) = 0.0d0
      enddo

      do it = 1, 3
!Vexnor$ static select region start
!Vexnor$ name scale
!Vexnor$ pripro sub region start
      cnt = cnt + 1
!Vexnor$ pripro sub region end
!Vexnor$ select sub region start
!Vexnor$ varied (m) from 1 to 2
      do i = 1, N
        y(i) = x(i) * 2.0d0 + 0.0d0 * m
      enddo
!Vexnor$ select sub region end
!Vexnor$ select sub region start
!Vexnor$ according (N .gt. 150)
      do i = 1, N
        y(i) = x(i) + x(i)
      enddo
!Vexnor$ select sub region end
!Vexnor$ debug (pp)
!Vexnor$ postpro sub region start
      total = total + y(N)
!Vexnor$ postpro sub region end
!Vexnor$ static select region end
      enddo

!Vexnor$ Vexnor_DynPefThis (dyn)
!Vexnor$ dynamic select region start
!Vexnor$ name dyn
!Vexnor$ varied (k) from 1 to 3
      do i = 1, N
        y(i) = y(i) + dble(k - k) + 1.0d0
      enddo
!Vexnor$ dynamic select region end

      if (myid .eq. 0) then
        print '(a, f16.4, i4)', 'RESULT ', sum(y) + total, cnt
      endif
      call MPI_FINALIZE(ierr)
      end
