      program fit
      integer N
      parameter (N = 64)
      real*8 a(N)
      integer i
!Vexnor$ install select region start
!Vexnor$ name fit
!Vexnor$ fitting least-squares 2 sampled (1-2, 4)
!Vexnor$ select sub region start
!Vexnor$ varied (m) from 1 to 4
      do i = 1, N
        a(i) = m * i
      enddo
!Vexnor$ select sub region end
!Vexnor$ install select region end
      end
